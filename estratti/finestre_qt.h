#pragma once

// The statement windows: the import preview, the balance chart, search and export.
#include "estratti/andamento_qt.h"
#include "estratti/anteprima_qt.h"
#include "estratti/ricerca_qt.h"
