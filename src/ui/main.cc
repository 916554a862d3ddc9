// duplane: the two-pane file manager.
#include "ui/application.h"

int main(int argc, char** argv) { return duplane::RunDuplane(argc, argv); }
