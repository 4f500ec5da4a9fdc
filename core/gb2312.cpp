#include "core/gb2312.h"

#include <QStringEncoder>

ByteString toGb2312(const QString &text)
{
    QStringEncoder encoder("GB2312");
    const QByteArray encoded = encoder.encode(text);
    return ByteString(encoded.constData(), static_cast<std::size_t>(encoded.size()));
}
