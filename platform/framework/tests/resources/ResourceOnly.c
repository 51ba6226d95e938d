/* The test resource library has no code of its own; the C runtime's DLL
   start-up is all it runs. */
typedef int quifw_resource_only_library;
