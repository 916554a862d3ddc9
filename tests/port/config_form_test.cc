// The Configure dialog's ports: the ones the system lists are offered with
// their device names and hexadecimal addresses, one of them is taken for the
// chosen LPT port in the settings' format, and the port test reports on the
// chosen port in its window.
#include "ui/config_form.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "port/standin.h"
#include "ui/probe_form.h"
#include "ui/qt_test_app.h"

namespace duplane {
namespace {

TEST(ConfigFormPortsTest, SystemPortsAreOfferedTakenAndTested) {
  TestApp();
  Standin standin;
  standin.AddPort(0, 0x378, "PCSPP");
  standin.AddPort(1, 0xD010, "PCSPP,TRISTATE,EPP");
  standin.WireLoopback("01234");
  TConfigForm form;
  form.show();
  QComboBox* list = form.PortList();
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), "parport0 at 0378 (PCSPP)");
  EXPECT_EQ(list->itemText(1), "parport1 at D010 (PCSPP,TRISTATE,EPP)");

  form.SetPortItem(1);
  list->setCurrentIndex(1);
  form.UsePortButton()->click();
  EXPECT_EQ(form.Base(1)->text(), "D010");
  EXPECT_EQ(form.Base(0)->text(), "");

  int released = 0;
  form.SetBeforeProbe([&released] { ++released; });
  form.ProbeButton()->click();
  EXPECT_EQ(released, 1);
  const QString report = form.ProbeForm()->Report()->toPlainText();
  EXPECT_TRUE(
      report.startsWith("Port at 0xD010 (parport1, modes PCSPP,TRISTATE,EPP)\n"
                        "Reached through ppdev /dev/parport1, claimed exclusively\n"))
      << report.toStdString();
  EXPECT_TRUE(report.contains("Loopback plug: all five wires are right")) << report.toStdString();
  EXPECT_TRUE(form.ProbeForm()->CloseButton()->isEnabled());

  // A typed address that is not one: said in the window, nothing opened.
  form.Base(1)->setText("0xD010");
  form.ProbeButton()->click();
  EXPECT_EQ(released, 1);
  EXPECT_EQ(form.ProbeForm()->Report()->toPlainText(),
            "'0xD010' is no port address: type it in hexadecimal, as 0378.");
}

TEST(ConfigFormPortsTest, NoSystemPortsLeaveTheTypedAddressesAlone) {
  TestApp();
  Standin standin;
  TConfigForm form;
  form.show();
  EXPECT_EQ(form.PortList()->itemText(0), "none found");
  EXPECT_FALSE(form.UsePortButton()->isEnabled());
  EXPECT_TRUE(form.ProbeButton()->isEnabled());
}

}  // namespace
}  // namespace duplane
