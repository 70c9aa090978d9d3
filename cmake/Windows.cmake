# Windows build (mingw-w64): Slumberhold.exe and the test helper programs.
