// The three registers of a PC parallel port and the bits of them a nibble
// cable uses. A port's registers sit at its base address and the two after it;
// the cable joins each end's data lines D0-D4 to the other end's status lines
// S3-S7, so what one end writes to its data register the other reads, shifted
// and with D4 inverted, from its status register.
#pragma once

#include <cstdint>

namespace duplane {

// Register offsets from the base address.
constexpr std::uint32_t kLptData = 0;     // D0-D7, pins 2-9
constexpr std::uint32_t kLptStatus = 1;   // S3-S7, read only
constexpr std::uint32_t kLptControl = 2;  // strobe, auto feed, init, select in

// Status bits. The port inverts Busy: a high pin 11 reads as 0.
constexpr std::uint8_t kLptStatusError = 0x08;     // S3, pin 15
constexpr std::uint8_t kLptStatusSelect = 0x10;    // S4, pin 13
constexpr std::uint8_t kLptStatusPaperOut = 0x20;  // S5, pin 12
constexpr std::uint8_t kLptStatusAck = 0x40;       // S6, pin 10
constexpr std::uint8_t kLptStatusBusy = 0x80;      // S7, pin 11, inverted

// Control bits. Init (pin 16) is active low: set, it keeps a printer from
// resetting. Bit 5 clear keeps the data lines driven.
constexpr std::uint8_t kLptControlStrobe = 0x01;
constexpr std::uint8_t kLptControlAutoFeed = 0x02;
constexpr std::uint8_t kLptControlInit = 0x04;
constexpr std::uint8_t kLptControlSelectIn = 0x08;

// The nibble cable. The data register's low nibble is what crosses, D4 is the
// strobe that flips with every nibble; the five together are the cable's wires.
constexpr std::uint8_t kDataNibble = 0x0F;  // D0-D3
constexpr std::uint8_t kDataStrobe = 0x10;  // D4
constexpr std::uint8_t kDataLines = 0x1F;   // D0-D4
// The far end's D0-D3 on S3-S6, its D4 on Busy.
constexpr std::uint8_t kStatusNibble = 0x78;
constexpr int kStatusNibbleShift = 3;
constexpr std::uint8_t kStatusLines = 0xF8;  // S3-S7
// The control value both ends hold: nothing asserted, data lines driven.
constexpr std::uint8_t kControlIdle = kLptControlInit;

// What this end's status register shows while the far end's data register
// holds `far_data`.
constexpr std::uint8_t StatusOfFarData(std::uint8_t far_data) {
  return static_cast<std::uint8_t>(((far_data & kDataNibble) << kStatusNibbleShift) |
                                   ((far_data & kDataStrobe) ? 0x00 : kLptStatusBusy));
}

// The far end's D0-D4 as levels, Busy's inversion undone.
constexpr std::uint8_t FarDataOfStatus(std::uint8_t status) {
  return static_cast<std::uint8_t>(((status & kStatusNibble) >> kStatusNibbleShift) |
                                   ((status & kLptStatusBusy) ? 0x00 : kDataStrobe));
}

// The far end's D0-D3.
constexpr std::uint8_t NibbleOfStatus(std::uint8_t status) {
  return static_cast<std::uint8_t>((status & kStatusNibble) >> kStatusNibbleShift);
}

static_assert(FarDataOfStatus(StatusOfFarData(0x1F)) == 0x1F);
static_assert(StatusOfFarData(0x00) == kLptStatusBusy);

}  // namespace duplane
