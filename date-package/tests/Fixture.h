// A parser with the date package loaded from a given locale, the test
// vocabulary, a fixed clock, and the engine reading its dates from the package.
#pragma once
#include "Curlew.h"
#include "Locale.h"
#include "TestClock.h"
#include "Vocabulary.h"

namespace curlew_test {

class LoadedParser {
public:
    explicit LoadedParser(const curlew::LocaleFormats& formats, bool vocabulary = true);
    ~LoadedParser();
    LoadedParser(const LoadedParser&) = delete;
    LoadedParser& operator=(const LoadedParser&) = delete;

    PrsParser* parser;
    PrsPackage* package;
    int loaded;                 // what Load returned
};

} // namespace curlew_test
