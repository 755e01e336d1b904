// Compiles the precompiled test headers (test_pch.h) that every test target reuses.
