#pragma once

#include <QDialog>

/// "About Ondaro Tessary Editor": the product name, its version and an OK button.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    static QIcon applicationIcon();
};
