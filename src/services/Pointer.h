#pragma once

// The mouse pointer of the whole program: the hourglass while a long
// operation runs. Calls nest: every busy() is undone by one normal(), and a
// normal() too many is harmless.
class Pointer {
public:
    static void busy();
    static void normal();
    static bool isBusy(); // test hook
};
