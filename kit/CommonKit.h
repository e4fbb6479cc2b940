// The utility kit in one include.
#pragma once

#include "CsvDataManager.h"
#include "DocPath.h"
#include "KitHelpers.h"
#include "SoftAddrMap.h"
#include "SymbolNameParser.h"
