#pragma once

// Registers every window of the program with the registry (Forms).
void registerForms();
