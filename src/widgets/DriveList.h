#pragma once

#include <QComboBox>

// The drive list: the mounted volumes of this computer (their root folders).
// changed() when the user picks another drive.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    QString drive() const; // the chosen volume's root folder
    void setDrive(const QString& root);
    void reload();

signals:
    void changed();
};
