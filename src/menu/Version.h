#pragma once

// The program's version, as the main menu and the support request show it.
namespace Version {
constexpr int Major = 7;
constexpr int Minor = 2;
constexpr int Revision = 0;
constexpr const char* Build = "Build 100605A";
} // namespace Version
