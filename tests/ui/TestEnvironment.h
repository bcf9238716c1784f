#pragma once
#include <cstdlib>
#include <string>

// What the test run promises about this process: the system language it
// was started with and whether "Res.dll" lies beside the executable.
inline std::string TestExpectation(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
inline std::string ExpectedLanguage() { return TestExpectation("ZEP_TEST_LANGUAGE"); }
inline std::string ExpectedResDll() { return TestExpectation("ZEP_TEST_RES_DLL"); }
