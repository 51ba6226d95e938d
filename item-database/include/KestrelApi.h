// Export control of the item database library.
#pragma once

#if defined(_WIN32) && defined(KESTREL_BUILD)
#  define KESTREL_API __declspec(dllexport)
#elif defined(_WIN32) && !defined(KESTREL_STATIC)
#  define KESTREL_API __declspec(dllimport)
#else
#  define KESTREL_API
#endif
