// The system's reasons for a failed file operation, told apart by their error numbers.
#include "data/system_reason.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <utility>

#include <locale.h>

namespace lambreya {
namespace {

struct Reason {
    int number;
    const char16_t* russian;
};

constexpr Reason kReasons[] = {
    {EFBIG, u"файл больше, чем позволяет система"},
    {ENOSPC, u"на диске нет места"},
    {EDQUOT, u"исчерпана квота на диске"},
    {EROFS, u"файловая система доступна только для чтения"},
    {EACCES, u"нет прав доступа"},
    {EPERM, u"операция не разрешена"},
    {ENOENT, u"нет такого файла или папки"},
    {ENOTDIR, u"часть пути не является папкой"},
    {EISDIR, u"это папка"},
    {EIO, u"ошибка ввода-вывода"},
    {ENAMETOOLONG, u"слишком длинное имя файла"},
    {ELOOP, u"слишком много символических ссылок"},
    {EMFILE, u"открыто слишком много файлов"},
    {ENFILE, u"в системе открыто слишком много файлов"},
    {ETXTBSY, u"файл занят"},
    {EBUSY, u"устройство или ресурс занят"},
    {ENOMEM, u"недостаточно памяти"},
    {EXDEV, u"файл на другом устройстве"},
};

// The text the system gives for an error number in the C locale, which is what Qt shows
// for the commonest ones whatever the locale.
QString englishText(int number) {
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    if (c == locale_t(nullptr))
        return {};
    return QString::fromLocal8Bit(::strerror_l(number, c));
}

} // namespace

QString inRussian(const QString& systemReason) {
    for (const Reason& reason : kReasons) {
        if (systemReason == englishText(reason.number) ||
            systemReason == QString::fromLocal8Bit(std::strerror(reason.number)))
            return QString::fromUtf16(reason.russian);
    }
    return systemReason;
}

} // namespace lambreya
