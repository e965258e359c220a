#include "Runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {

static bool isBlankOrTab(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

double Val(const QString& text)
{
    const int n = text.size();
    int i = 0;
    while (i < n && (isBlankOrTab(text[i]) || text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')))
        ++i;
    if (i + 1 < n && text[i] == QLatin1Char('&')) {
        const QChar k = text[i + 1].toUpper();
        int base = 0;
        if (k == QLatin1Char('H'))
            base = 16;
        else if (k == QLatin1Char('O'))
            base = 8;
        if (base) {
            // Read as a double, as decimal digits are: a long text gives a
            // large number, one beyond the double range gives 0.
            double v = 0;
            int j = i + 2;
            for (; j < n; ++j) {
                const char16_t c = text[j].toUpper().unicode();
                int d = -1;
                if (c >= u'0' && c <= u'9')
                    d = c - u'0';
                else if (base == 16 && c >= u'A' && c <= u'F')
                    d = c - u'A' + 10;
                if (d < 0 || d >= base)
                    break;
                v = v * base + d;
            }
            return j > i + 2 && std::isfinite(v) ? v : 0.0;
        }
    }
    // Blanks inside the number are skipped, as the platform did ("1 2" is 12).
    QByteArray buf;
    bool sign = false, digits = false, point = false, exp = false, expDigits = false, expSign = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isBlankOrTab(c))
            continue;
        if ((c == QLatin1Char('+') || c == QLatin1Char('-')) && !sign && !digits && !point && !exp) {
            sign = true;
            buf.append(char(c.unicode()));
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            buf.append(char(c.unicode()));
            if (exp)
                expDigits = true;
            else
                digits = true;
        } else if (c == QLatin1Char('.') && !point && !exp) {
            point = true;
            buf.append('.');
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E') || c == QLatin1Char('d') || c == QLatin1Char('D')) && digits && !exp) {
            exp = true;
            buf.append('e');
        } else if ((c == QLatin1Char('+') || c == QLatin1Char('-')) && exp && !expDigits && !expSign) {
            expSign = true;
            buf.append(char(c.unicode()));
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    if (exp && !expDigits) {
        // A dangling exponent mark does not count.
        while (!buf.isEmpty() && (buf.endsWith('e') || buf.endsWith('+') || buf.endsWith('-')))
            buf.chop(1);
    }
    bool ok = false;
    const double v = buf.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

double Val(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return 0.0;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return value.toDouble();
    default:
        return Val(value.toString());
    }
}

bool IsNumeric(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    // "inf" and "nan" parse as doubles but are not numbers Val can read.
    return ok && std::isfinite(v);
}

// The whole number nearest to magnitude * 10^decimals, a tie going to the
// even neighbour or up; none beyond 2^62, where a double has no fraction
// left to round.
static std::optional<qint64> roundScaled(double magnitude, int decimals, bool tieToEven)
{
    const double scale = std::pow(10.0, decimals);
    const double x = magnitude * scale;
    if (!(x < 0x1p62))
        return std::nullopt;
    // The product's own rounding error is added back, so that a large amount
    // neither gains nor loses a unit in the last place.
    const double fl = std::floor(x);
    double frac = (x - fl) + std::fma(magnitude, scale, -x);
    const double carry = std::floor(frac);
    frac -= carry;
    const qint64 whole = qint64(fl) + qint64(carry);
    // Values that are a tie only through binary noise are treated as ties;
    // the margin never grows so wide that a whole unit counts as one.
    const double eps = std::min(1e-9 * std::max(1.0, x), 1e-6);
    if (std::fabs(frac - 0.5) <= eps)
        return tieToEven && whole % 2 == 0 ? whole : whole + 1;
    return frac > 0.5 ? whole + 1 : whole;
}

double RoundHalfEven(double value, int decimals)
{
    const auto r = roundScaled(std::fabs(value), decimals, true);
    return r ? std::copysign(double(*r) / std::pow(10.0, decimals), value) : value;
}

double RoundHalfAway(double value, int decimals)
{
    const auto r = roundScaled(std::fabs(value), decimals, false);
    return r ? std::copysign(double(*r) / std::pow(10.0, decimals), value) : value;
}

QString Str(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    QString s = QString::number(value, 'g', 15);
    return s;
}

QString Str(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return Str(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}

QString SignedStr(double value)
{
    const QString s = Str(value);
    return value < 0 ? s : QLatin1Char(' ') + s;
}

// Formats the absolute value by one pattern section.
static QString formatSection(double value, const QString& pattern)
{
    // Split the pattern into prefix literal, number part, suffix literal.
    int first = -1, last = -1;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('#') || c == QLatin1Char('0') || c == QLatin1Char(',') || c == QLatin1Char('.')) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return pattern;
    const QString prefix = pattern.left(first);
    const QString suffix = pattern.mid(last + 1);
    const QString num = pattern.mid(first, last - first + 1);
    const int dot = num.indexOf(QLatin1Char('.'));
    const QString intPart = dot >= 0 ? num.left(dot) : num;
    const QString fracPart = dot >= 0 ? num.mid(dot + 1) : QString();
    const bool thousands = intPart.contains(QLatin1Char(','));
    const int minInt = intPart.count(QLatin1Char('0'));
    const int fracMax = fracPart.count(QLatin1Char('0')) + fracPart.count(QLatin1Char('#'));
    const int fracMin = fracPart.count(QLatin1Char('0'));

    // A whole number takes a tie to the even neighbour; a decimal pattern
    // rounds a tie away from zero, as the pages have always shown averages.
    // The digits come from the scaled whole number itself: dividing it back
    // would round again, and large amounts would lose their last cent.
    const auto scaled = roundScaled(value, fracMax, fracMax == 0);
    QString ip = scaled ? QString::number(*scaled) : QString::number(value, 'f', fracMax).remove(QLatin1Char('.'));
    if (ip.size() <= fracMax)
        ip.prepend(QString(fracMax + 1 - ip.size(), QLatin1Char('0')));
    QString fp = ip.right(fracMax);
    ip.chop(fracMax);
    // Optional fraction digits drop trailing zeros.
    while (fp.size() > fracMin && fp.endsWith(QLatin1Char('0')))
        fp.chop(1);
    if (ip == QLatin1String("0") && minInt == 0)
        ip.clear();
    while (ip.size() < minInt)
        ip.prepend(QLatin1Char('0'));
    if (thousands && ip.size() > 3) {
        QString g;
        int count = 0;
        for (int i = ip.size() - 1; i >= 0; --i) {
            g.prepend(ip[i]);
            if (++count % 3 == 0 && i > 0)
                g.prepend(QLatin1Char(','));
        }
        ip = g;
    }
    QString out = prefix + ip;
    if (dot >= 0 && (!fp.isEmpty() || fracMin > 0))
        out += QLatin1Char('.') + fp;
    else if (dot >= 0 && fracMax == 0)
        out += QLatin1Char('.');
    return out + suffix;
}

QString Format(double value, const QString& pattern)
{
    const int semi = pattern.indexOf(QLatin1Char(';'));
    if (semi >= 0) {
        const QString pos = pattern.left(semi);
        const QString neg = pattern.mid(semi + 1);
        if (value < 0)
            return formatSection(-value, neg);
        return formatSection(value, pos);
    }
    if (value < 0) {
        const QString s = formatSection(-value, pattern);
        // A value that rounds to zero shows without a sign.
        bool allZero = true;
        for (QChar c : s)
            if (c.isDigit() && c != QLatin1Char('0'))
                allZero = false;
        return allZero ? s : QLatin1Char('-') + s;
    }
    return formatSection(value, pattern);
}

// The n units of text from the index from (all the rest when n < 0); half
// of a two-unit character left at either edge of the cut becomes a blank,
// so the cut keeps its width and the text stays whole characters.
static QString cutWhole(const QString& text, qsizetype from, qsizetype n)
{
    QString out = text.mid(from, n);
    if (out.isEmpty())
        return out;
    if (SplitsCharacter(text, from))
        out.front() = QLatin1Char(' ');
    if (SplitsCharacter(text, from + out.size()))
        out.back() = QLatin1Char(' ');
    return out;
}

bool SplitsCharacter(const QString& text, qsizetype at)
{
    return at > 0 && at < text.size() && text[at - 1].isHighSurrogate() && text[at].isLowSurrogate();
}

QString RSet(const QString& text, int width)
{
    if (width <= 0)
        return QString();
    const QString s = QString(width, QLatin1Char(' ')) + text;
    return cutWhole(s, s.size() - width, width);
}

QString LSet(const QString& text, int width)
{
    if (width <= 0)
        return QString();
    return cutWhole(text + QString(width, QLatin1Char(' ')), 0, width);
}

QString LTrim(const QString& text)
{
    int i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    return text.mid(i);
}

QString RTrim(const QString& text)
{
    int n = text.size();
    while (n > 0 && text[n - 1] == QLatin1Char(' '))
        --n;
    return text.left(n);
}

QString Trim(const QString& text)
{
    return LTrim(RTrim(text));
}

QString Mid(const QString& text, int start, int length)
{
    if (start < 1)
        start = 1;
    if (start > text.size())
        return QString();
    return cutWhole(text, start - 1, length < 0 ? -1 : length);
}

static const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString DecodeText(const QByteArray& bytes)
{
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF"))
        b.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(b);
    if (!utf8.hasError())
        return s;
    QString out;
    out.reserve(b.size());
    for (char ch : b) {
        const unsigned char u = static_cast<unsigned char>(ch);
        if (u >= 0x80 && u < 0xA0)
            out.append(QChar(kCp1252High[u - 0x80]));
        else
            out.append(QChar(u));
    }
    return out;
}

bool ReadTextLines(const QString& path, QStringList& lines, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    const QString text = DecodeText(f.readAll());
    lines.clear();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return true;
}

namespace {

// A temporary file of a page is named "<page>.<pid>.<n>.tmp".
QByteArray temporaryName(const QByteArray& target)
{
    static std::atomic<unsigned> counter{0};
    return target + '.' + QByteArray::number(qint64(::getpid())) + '.' + QByteArray::number(counter++) + ".tmp";
}

// The bound of the process numbers the system gives out (pid_max: every
// process number is below it).
qint64 pidMax()
{
    static const qint64 max = [] {
        QFile file(QStringLiteral("/proc/sys/kernel/pid_max"));
        bool ok = false;
        const qint64 value = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong(&ok) : 0;
        return ok && value > 0 ? value : qint64(4194304);
    }();
    return max;
}

bool isDigits(const QByteArray& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The process of a temporary file's "<pid>.<n>" as temporaryName makes it,
// 0 for any other form: a file named otherwise is the user's, not ours.
qint64 writerOf(const QByteArray& stamp)
{
    const QList<QByteArray> parts = stamp.split('.');
    if (parts.size() != 2 || !isDigits(parts[0]) || parts[0].startsWith('0') || !isDigits(parts[1]))
        return 0;
    bool ok = false;
    const qint64 pid = parts[0].toLongLong(&ok);
    return ok && pid < pidMax() ? pid : 0;
}

// Removes the temporary files of the page whose process no longer runs: a
// write cut short (the program killed, the machine off) leaves one behind,
// and it would be uploaded with the pages.
void removeStaleTemporaries(const QByteArray& folder, const QByteArray& target)
{
    const QByteArray prefix = target.mid(target.lastIndexOf('/') + 1) + '.';
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix) || !name.endsWith(".tmp"))
            continue;
        const qint64 pid = writerOf(name.mid(prefix.size(), name.size() - prefix.size() - 4));
        if (pid > 0 && pid != ::getpid() && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// Follows a link to the file it leads to, through further links, each
// relative target taken from its own link's folder. The file need not be
// made yet (a page published through a link for the first time); its
// folder must exist. On failure errno is set and path is where it stopped.
bool followLinks(QByteArray& path)
{
    for (int hops = 0;; ++hops) {
        struct stat entry {};
        if (::lstat(path.constData(), &entry) != 0 && errno != ENOENT)
            return false;
        if (!S_ISLNK(entry.st_mode)) {   // a file, or none yet
            char* real = ::realpath(folderOf(path).constData(), nullptr);
            if (!real)
                return false;
            path = QByteArray(real) + '/' + path.mid(path.lastIndexOf('/') + 1);
            std::free(real);
            return true;
        }
        if (hops >= 40) {
            errno = ELOOP;
            return false;
        }
        QByteArray to(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.constData(), to.data(), size_t(to.size()));
        if (n < 0)
            return false;
        if (n >= to.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        to.truncate(n);
        path = to.startsWith('/') ? to : folderOf(path) + '/' + to;
    }
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

} // namespace

bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error)
{
    // Plain system calls, each result checked: a buffered file may report
    // success although its last write found the disk full.
    const auto fail = [&](int code, const QString& name) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(code)) + QStringLiteral(": ") + name;
        return false;
    };
    QByteArray target = QFile::encodeName(path);
    struct stat entry {};
    // A page linked into another folder (a web server's) stays a link: the
    // file it points to gets the new text.
    if (::lstat(target.constData(), &entry) == 0 && S_ISLNK(entry.st_mode) && !followLinks(target)) {
        const int code = errno;
        return fail(code, QFile::decodeName(target));
    }
    // The file is replaced, not written into, so its own permissions would
    // not be asked: a page made read-only stays as it is.
    if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return fail(errno, path);
    const QByteArray folder = folderOf(target);
    removeStaleTemporaries(folder, target);
    // A step in the folder (making, naming or renaming the temporary file)
    // refused by its permissions has the folder as the reason; any other
    // fault (a full disk) is told with the page.
    const auto failInFolder = [&](int code) {
        return fail(code, code == EACCES || code == EPERM || code == EROFS ? QFile::decodeName(folder) : path);
    };

    // Gives the new text a fresh temporary name by make(name), which fails
    // with errno set; a name that is taken is passed over.
    QByteArray temp;
    const auto takeName = [&](const auto& make) {
        for (int attempt = 0;; ++attempt) {
            temp = temporaryName(target);
            if (make(temp))
                return true;
            const int code = errno;
            temp.clear();
            errno = code;
            if (code != EEXIST || attempt >= 100)
                return false;
        }
    };
    // The text is written into a file without a name where the file system
    // has them, so that a write cut short leaves nothing behind; it is
    // named only for the rename that puts it in place.
    static const bool canLinkUnnamed = ::access("/proc/self/fd", X_OK) == 0;
    int fd = canLinkUnnamed ? ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666) : -1;
    const bool unnamed = fd >= 0;
    if (!unnamed && canLinkUnnamed && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return failInFolder(errno);
    if (!unnamed && !takeName([&](const QByteArray& name) {
            fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return fd >= 0;
        }))
        return failInFolder(errno);
    const auto abandon = [&](int code, bool inFolder = false) {
        if (fd >= 0)
            ::close(fd);
        if (!temp.isEmpty())
            ::unlink(temp.constData());
        return inFolder ? failInFolder(code) : fail(code, path);
    };
    // A page rewritten keeps the permissions it had.
    struct stat old {};
    if (::stat(target.constData(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0)
        return abandon(errno);
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        return abandon(errno);
    if (unnamed && !takeName([&](const QByteArray& name) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
            return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0;
        }))
        return abandon(errno, true);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return abandon(errno);
    if (::rename(temp.constData(), target.constData()) != 0)
        return abandon(errno, true);
    return true;
}

QString FileNameFault(const QString& text)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("a control character (code %1)").arg(c.unicode());
        if (forbidden.contains(c))
            return QStringLiteral("the character ") + c;
    }
    return QString();
}

static QString g_appPath;

static QString withoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

QString AppPath()
{
    if (!g_appPath.isEmpty())
        return g_appPath;
    // The league's folder kept apart from the executable (scripts/run.sh
    // sets it); absolute, since the current folder changes while running.
    const QString home = qEnvironmentVariable("TARVIK_HOME");
    if (!home.trimmed().isEmpty())
        return withoutTrailingSeparator(QDir(home).absolutePath());
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void SetAppPath(const QString& path)
{
    g_appPath = withoutTrailingSeparator(path);
}

QString AppFile(const QString& relative)
{
    QString r = relative;
    r.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (r.startsWith(QLatin1Char('/')))
        r.remove(0, 1);
    return AppPath() + QLatin1Char('/') + r;
}

QString AppTitle()
{
    return QStringLiteral("Tarvik");
}

int VersionMajor() { return TARVIK_VERSION_MAJOR; }
int VersionMinor() { return TARVIK_VERSION_MINOR; }
int VersionRevision() { return TARVIK_VERSION_PATCH; }

} // namespace rt
