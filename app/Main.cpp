// The one application object, constructed before the program's entry.
#include "app/BitsetApp.h"

CBitsetApp theApp;
