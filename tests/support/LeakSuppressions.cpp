// Fontconfig keeps its configuration for the life of the process by design; LeakSanitizer
// would report it at every exit of a test that drew text.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}
