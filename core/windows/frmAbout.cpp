#include "frmAbout.h"

#include "Forms.h"
#include "Runtime.h"
#include "frmSplash.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(QWidget* mainWindow)
    : QDialog(mainWindow)
    , m_main(mainWindow)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tarvik"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setModal(true);

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* image = new QLabel(frame1);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(TarvikLogo(64));
    auto* label2 = new QLabel(QStringLiteral("Tarvik: scoring, standings and web pages for online racing leagues.\n"
                                             "Written for league scorers by the Tarvik team."),
                              frame1);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setWordWrap(true);
    auto* row1 = new QHBoxLayout(frame1);
    row1->addWidget(image, 0, Qt::AlignTop);
    row1->addWidget(label2, 1);

    auto* label4 = new QLabel(VersionText(), this);
    label4->setObjectName(QStringLiteral("Label4"));

    auto* frame2 = new QGroupBox(QStringLiteral("Disclaimer"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* label3 = new QLabel(QStringLiteral("This program is provided as is, without warranty of any kind. "
                                             "Keep a copy of your league database (Tarvik.MDB) before large changes."),
                              frame2);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setWordWrap(true);
    (new QVBoxLayout(frame2))->addWidget(label3);

    auto* frame3 = new QGroupBox(QStringLiteral("Contact information"), this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    auto* label1 = new QLabel(QStringLiteral("Questions and suggestions: ask your league administrator, "
                                             "or see readme.htm in the program folder."),
                              frame3);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setWordWrap(true);
    (new QVBoxLayout(frame3))->addWidget(label1);

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(frame1);
    lay->addWidget(label4);
    lay->addWidget(frame2);
    lay->addWidget(frame3);
    lay->addWidget(ok, 0, Qt::AlignRight);
    resize(420, sizeHint().height());
}

void frmAbout::showEvent(QShowEvent* event)
{
    // Centred over the main window, a little above the middle.
    if (m_main) {
        const QRect g = m_main->geometry();
        const int top = g.y() + (g.height() - height()) / 2 - TwipsToPixels(800);
        const int left = g.x() + (g.width() - width()) / 2;
        move(left, qMax(top, g.y()));
    }
    QDialog::showEvent(event);
}
