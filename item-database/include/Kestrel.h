// The item database library: everything a user of Kestrel includes.
#pragma once
#include "KestrelApi.h"
#include "QuiItemID.h"
#include "QuiTaggedField.h"
#include "QuiItem.h"
#include "QuiItemList.h"
#include "QuiKestrel.h"
#include "QuiXMLFile.h"
