#pragma once
// The about box of the Help menu (modal).

#include <QDialog>

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* mainWindow = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* m_main = nullptr;
};
