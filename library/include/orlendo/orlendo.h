// Everything the desktop program uses of the library.
#pragma once

#include "orlendo/catalogue.h"
#include "orlendo/dates.h"
#include "orlendo/entries.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "orlendo/numbers.h"
#include "orlendo/profile_file.h"
#include "orlendo/progress.h"
