#include "frmSplash.h"

#include "Runtime.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

QPixmap TarvikLogo(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double unit = size / 16.0;
    // Pole.
    p.fillRect(QRectF(unit, unit, unit, 14 * unit), QColor(60, 60, 60));
    // Flag: 4 x 3 squares.
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.fillRect(QRectF((2 + col * 3) * unit, (1.5 + row * 3) * unit, 3 * unit, 3 * unit),
                       (row + col) % 2 ? Qt::white : Qt::black);
    p.setPen(QPen(Qt::black, qMax(1.0, unit / 2)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2 * unit, 1.5 * unit, 12 * unit, 9 * unit));
    return pm;
}

QString VersionText()
{
    return QStringLiteral("Version %1.%2.%3").arg(rt::VersionMajor()).arg(rt::VersionMinor()).arg(rt::VersionRevision());
}

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setWindowTitle(rt::AppTitle());

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setFrameShape(QFrame::Box);
    m_frame->installEventFilter(this);

    auto* image = new QLabel(m_frame);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(TarvikLogo(96));

    auto* title = new QLabel(rt::AppTitle(), m_frame);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont tf(QStringLiteral("Tahoma"), 24, QFont::Bold);
    title->setFont(tf);

    auto* description = new QLabel(QStringLiteral("Scoring and web pages for online racing leagues"), m_frame);
    description->setObjectName(QStringLiteral("Label2"));

    auto* credit = new QLabel(QStringLiteral("Written for league scorers by the Tarvik team"), m_frame);
    credit->setObjectName(QStringLiteral("lblCredit"));

    auto* version = new QLabel(VersionText(), m_frame);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setAlignment(Qt::AlignRight);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(description);
    text->addStretch();
    text->addWidget(credit);
    text->addWidget(version);
    auto* row = new QHBoxLayout(m_frame);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSpacing(16);
    row->addWidget(image, 0, Qt::AlignTop);
    row->addLayout(text, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->addWidget(m_frame);
    resize(460, 200);
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    close();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_frame && event->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
