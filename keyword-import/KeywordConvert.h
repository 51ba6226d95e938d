// Converts a keyword file into the item file the main program reads its
// keywords from, keeping every item the item file already holds. Portable.
#pragma once

namespace wren {

// Results of the conversion and of the program; 0 is success.
enum Result {
    kConverted = 0,
    kBadArguments = 1,
    kInputNotConvertible = 2,  // missing, unreadable, or not a keyword file
    kOutputUnreadable = 3,     // an existing output that is no item file
    kOutputNotWritten = 4,
    kNoSwitch = 5,
    kNoInputPath = 6,
    kNoOutputPath = 7,
};

// The built-in item types the keywords go to.
extern const char* const kTodoCategoryType;
extern const char* const kMemoCategoryType;
extern const char* const kContactType;

int Convert(const char* input, const char* output);

} // namespace wren
