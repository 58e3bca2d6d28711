/* Entry point of the test executables and libraries: they are never run, only read. */
int Entry(void) { return 0; }
