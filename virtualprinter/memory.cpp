// The printer's memory: the settings it keeps and their names in the state
// file, the NV images, and what the settings do to the printer.
#include "virtualprinter/engine.h"

#include "settings/configcommands.h"

#include <QJsonArray>

#include <algorithm>

namespace vp {

using escpos::Op;

const std::vector<MemoryKey> &memoryKeys()
{
    static const std::vector<MemoryKey> keys = {
        {Stored::SerialSpeed, "serialSpeed", "serial speed"},
        {Stored::HParameter, "hParameter", "set H parameter"},
        {Stored::DefaultCodePage, "defaultCodePage", "default code page"},
        {Stored::PaperWidth, "paperWidth", "paper width"},
        {Stored::Density, "density", "print density"},
        {Stored::AutoLineFeed, "autoLineFeed", "automatic line feed"},
        {Stored::Buzzer, "buzzer", "buzzer"},
        {Stored::Reprint, "reprint", "reprint after paper-out"},
        {Stored::Emulation, "emulation", "emulation mode"},
        {Stored::SmallFont, "smallFont", "small font"},
    };
    return keys;
}

const MemoryKey &memoryKey(Stored stored)
{
    for (const MemoryKey &k : memoryKeys())
        if (k.stored == stored)
            return k;
    return memoryKeys().front();
}

const MemoryKey *memoryKeyOf(const escpos::Command &c)
{
    switch (c.op) {
    case Op::SerialSpeed: return &memoryKey(Stored::SerialSpeed);
    case Op::SetHParameter: return &memoryKey(Stored::HParameter);
    case Op::DefaultCodePage: return &memoryKey(Stored::DefaultCodePage);
    case Op::Setting: break;
    default: return nullptr;
    }
    switch (c.setting) {
    case Setting::PaperWidth: return &memoryKey(Stored::PaperWidth);
    case Setting::Density: return &memoryKey(Stored::Density);
    case Setting::AutoLineFeed: return &memoryKey(Stored::AutoLineFeed);
    case Setting::Buzzer: return &memoryKey(Stored::Buzzer);
    case Setting::Reprint: return &memoryKey(Stored::Reprint);
    case Setting::Emulation: return &memoryKey(Stored::Emulation);
    case Setting::SmallFont: return &memoryKey(Stored::SmallFont);
    }
    return nullptr;
}

QJsonObject Engine::memory() const
{
    QJsonObject settings;
    for (const auto &s : m_settings)
        settings[QLatin1String(memoryKey(s.first).name)] = s.second;
    QJsonArray nv;
    for (const auto &image : m_nv) {
        QJsonObject o;
        o[QStringLiteral("number")] = image.first;
        o[QStringLiteral("x")] = image.second.x;
        o[QStringLiteral("y")] = image.second.y;
        o[QStringLiteral("data")] = QString::fromLatin1(
            QByteArray(image.second.data.data(), static_cast<qsizetype>(image.second.data.size())).toBase64());
        nv.append(o);
    }
    QJsonObject out;
    out[QStringLiteral("model")] = QString::fromLatin1(m_model.id);
    out[QStringLiteral("settings")] = settings;
    out[QStringLiteral("nv")] = nv;
    return out;
}

void Engine::restore(const QJsonObject &memory)
{
    m_settings.clear();
    const QJsonObject settings = memory.value(QStringLiteral("settings")).toObject();
    // A memory saved before the keys had their own names uses the
    // decoder's English words; it is read once and saved under the new names.
    for (const MemoryKey &key : memoryKeys()) {
        for (const char *name : {key.name, key.oldName}) {
            const QJsonValue v = settings.value(QLatin1String(name));
            if (v.isDouble()) {
                m_settings[key.stored] = v.toInt();
                break;
            }
        }
    }
    m_nv.clear();
    for (const QJsonValue &v : memory.value(QStringLiteral("nv")).toArray()) {
        const QJsonObject o = v.toObject();
        BitImage image;
        image.x = o.value(QStringLiteral("x")).toInt();
        image.y = o.value(QStringLiteral("y")).toInt();
        const QByteArray data = QByteArray::fromBase64(o.value(QStringLiteral("data")).toString().toLatin1());
        image.data.assign(data.constData(), static_cast<std::size_t>(data.size()));
        if (image.x > 0 && image.y > 0 && image.x <= 1023 && image.y <= 288 &&
            image.data.size() == 8u * static_cast<std::size_t>(image.x) * static_cast<std::size_t>(image.y))
            m_nv[o.value(QStringLiteral("number")).toInt()] = image;
    }
    resetModes();
}

int Engine::setting(Stored which, int fallback) const
{
    const auto it = m_settings.find(which);
    return it == m_settings.end() ? fallback : it->second;
}

int Engine::serialBits() const
{
    // The K3's display runs at 2400 bit/s out of the box, the others at 9600.
    const int bits = serialSpeedBits(setting(Stored::SerialSpeed, m_model.display ? 6 : 1));
    return bits ? bits : 9600;
}

bool Engine::starMode() const
{
    const OneValueSetting &s = oneValueSetting(Setting::Emulation);
    return setting(Stored::Emulation, s.values[0]) == s.values[1];
}

int Engine::paperDots() const
{
    const OneValueSetting &s = oneValueSetting(Setting::PaperWidth);
    const int v = setting(Stored::PaperWidth, -1);
    if (v == s.values[0])
        return std::min(m_model.paperDots, 384); // 58 mm
    if (v == s.values[1])
        return std::min(m_model.paperDots, 512); // 76 mm, but never wider than the head
    return m_model.paperDots;
}

} // namespace vp
