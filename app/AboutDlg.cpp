#include "app/AboutDlg.h"

#include "app/VersionReader.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRect>
#include <vector>

namespace vocamo {

namespace {

// The box is laid out in dialog units of its font, as its template is.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont &font)
    {
        const QFontMetrics metrics(font);
        const int alphabet = metrics.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        m_baseX = (alphabet / 26 + 1) / 2;
        m_baseY = metrics.height();
    }
    QRect Map(int x, int y, int cx, int cy) const { return {X(x), Y(y), X(cx), Y(cy)}; }
    int X(int units) const { return (units * m_baseX + 2) / 4; }
    int Y(int units) const { return (units * m_baseY + 4) / 8; }

private:
    int m_baseX;
    int m_baseY;
};

} // namespace

CAboutDlg::CAboutDlg(QWidget *parent, const QString &recordPath) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Vocamo"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const CDialogUnits units(font());

    auto *icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/icon/174.png")));
    icon->setGeometry(QRect(QPoint(units.X(11), units.Y(17)), icon->pixmap().size()));

    auto *name = new QLabel(QStringLiteral("Vocamo Version"), this);
    name->setGeometry(units.Map(40, 10, 78, 8));

    auto *line = new QLabel(QStringLiteral("Desk telephone for modem and Skype"), this);
    line->setGeometry(units.Map(40, 25, 135, 8));

    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("version"));
    // Wider than the template so that four numbers of five digits still fit.
    m_version->setGeometry(units.Map(121, 10, 54, 8));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    ok->setGeometry(units.Map(178, 7, 50, 16));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(units.X(235), units.Y(55));

    const CVersionReader reader(recordPath);
    m_version->setText(QString::fromStdString(VersionText(reader.GetProductVersion())));
}

std::string CAboutDlg::VersionText(const std::string &productVersion)
{
    // Empty pieces are dropped, but a text without any comma is one piece,
    // even when empty.
    std::vector<std::string> pieces;
    std::string rest = productVersion;
    const bool anyComma = rest.find(',') != std::string::npos;
    for (size_t comma; (comma = rest.find(',')) != std::string::npos;) {
        if (comma > 0)
            pieces.push_back(rest.substr(0, comma));
        rest.erase(0, comma + 1);
    }
    if (!rest.empty() || !anyComma)
        pieces.push_back(rest);

    std::string text = "V";
    for (size_t i = 0; i < pieces.size(); ++i) {
        text += pieces[i];
        if (i < 3)
            text += '.';
    }
    return text;
}

void CAboutDlg::ShowPhonebookPath(const QString &path)
{
    const CDialogUnits units(font());
    if (!m_phonebook) {
        m_phonebook = new QLabel(this);
        m_phonebook->setObjectName(QStringLiteral("phonebook"));
        m_phonebook->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_phonebook->setGeometry(units.Map(40, 39, 188, 8));
    }
    const QString text = QStringLiteral("Phonebook: ") + path;
    m_phonebook->setText(
        m_phonebook->fontMetrics().elidedText(text, Qt::ElideMiddle, m_phonebook->width()));
    m_phonebook->setToolTip(path);
}

QString CAboutDlg::GetPhonebookText() const
{
    return m_phonebook ? m_phonebook->text() : QString();
}

QString CAboutDlg::GetVersionFieldText() const
{
    return m_version->text();
}

} // namespace vocamo
