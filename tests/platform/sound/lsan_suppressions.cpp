// Read by LeakSanitizer in the sanitizer builds. The driver fallback test
// starts ALSA without a sound card; libasound keeps its error-output handle
// for the life of the process.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the sanitizer runtime's name.
extern "C" const char* __lsan_default_suppressions() { return "leak:libasound.so\n"; }
