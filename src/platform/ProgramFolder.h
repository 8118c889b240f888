#pragma once

#include <QString>

// The program folder: $TESSALY_HOME when set, otherwise the per-user data
// folder (~/.local/share/Tessaly). The program runs with it as its working
// directory, so bare file names ("TESSALY.mdb", "User.mdb") resolve there.
class ProgramFolder {
public:
    static QString path();
    // Creates the folder when missing and makes it the working directory.
    static bool enter(QString* error);
    static QString file(const QString& name);
    // Generated files: program folder + "/Temp".
    static QString tempFolder();
};
