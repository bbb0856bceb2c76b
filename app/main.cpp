#include "startup/avvio_qt.h"

int main(int argc, char** argv) { return avvio::EseguiProgramma(argc, argv); }
