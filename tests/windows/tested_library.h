#pragma once
// Windows only: the DLL that the Wine tests load, which CTest names in the environment
// variable ZARVO_DLL by its Windows path: the shipped build, or in development the Debug DLL
// beside the test programs.
#include <string>

namespace zarvo::test {

// The path in ZARVO_DLL; throws when the variable is not set, so that no other file of the
// same name is ever tested in its place.
std::wstring TestedLibraryPath();

}  // namespace zarvo::test
