#include "core/dialer/DialerPlan.h"
#include "platform/Text.h"

namespace fundora::core {

using platform::trimmedRight;

namespace {

bool isBlank(const QString& s)
{
    return s.trimmed().isEmpty();
}

} // namespace

bool needsSelection(const DialRequest& request)
{
    return !isBlank(request.numbers[1]) || !isBlank(request.numbers[2]);
}

QString rowText(const DialRequest& request, int row)
{
    const QString& label = request.labels[static_cast<std::size_t>(row)];
    const QString& number = request.numbers[static_cast<std::size_t>(row)];
    if (!isBlank(label))
        return trimmedRight(trimmedRight(label) + QStringLiteral(":  ") + number.trimmed());
    return trimmedRight(number);
}

std::array<QChar, 3> accessKeys(const std::array<QString, 3>& texts)
{
    std::array<QChar, 3> keys{QChar(u' '), QChar(u' '), QChar(u' ')};
    keys[0] = texts[0].isEmpty() ? QChar(u' ') : texts[0][0];
    auto differs = [&](QChar c, int before) {
        for (int i = 0; i < before; ++i)
            if (keys[static_cast<std::size_t>(i)] != u' ' && c.toUpper() == keys[static_cast<std::size_t>(i)].toUpper())
                return false;
        return true;
    };
    for (int row = 1; row < 3; ++row) {
        for (QChar c : texts[static_cast<std::size_t>(row)]) {
            if (c != u' ' && differs(c, row)) {
                keys[static_cast<std::size_t>(row)] = c;
                break;
            }
        }
    }
    return keys;
}

SelectionLayout layoutSelection(const DialRequest& request, QPoint origin, int (*widestPrompt)(const QString&))
{
    using namespace DialerDesign;
    SelectionLayout out;
    std::array<QString, 3> plain;
    for (int row = 0; row < 3; ++row)
        plain[static_cast<std::size_t>(row)] = rowText(request, row);
    out.keys = accessKeys(plain);
    for (std::size_t row = 0; row < 3; ++row) {
        QString text = plain[row];
        if (out.keys[row] != u' ') {
            const qsizetype at = text.indexOf(out.keys[row]);
            if (at >= 0)
                text.insert(at, u'&');
        }
        out.rowTexts[row] = text;
        out.rowY[row] = RowY[row];
        out.rowVisible[row] = true;
    }

    const bool second = !isBlank(request.numbers[1]);
    const bool third = !isBlank(request.numbers[2]);
    int d = 0;
    if (!third && second) {
        out.rowVisible[2] = false;
        d = RowY[2] - RowY[1];
    } else if (!third && !second) {
        out.rowVisible[1] = out.rowVisible[2] = false;
        d = RowY[2] - RowY[0];
    } else if (third && !second) {
        out.rowVisible[1] = false;
        d = RowY[1] - RowY[0];
        out.rowY[2] -= d;
    }
    out.window = QRect(origin, QSize(WindowWidth, WindowHeight));
    out.cancel = QRect(CancelX, CancelY, CancelWidth, CancelHeight);
    if (d != 0) {
        out.cancel.translate(0, -d);
        out.window.setHeight(WindowHeight - d);
        out.window.translate(0, d / 2);
    }
    int widest = 0;
    for (const QString& t : out.rowTexts)
        widest = std::max(widest, widestPrompt(t));
    const int newWidth = std::max(MinimumWidth, PromptX + widest + 6);
    out.window.translate((WindowWidth - newWidth) / 2, 0);
    out.window.setWidth(newWidth);
    out.cancel.moveLeft(newWidth - CancelWidth - 4);
    return out;
}

QString dialString(const DialRequest& request, int row)
{
    return (trimmedRight(request.prefix) + trimmedRight(request.numbers[static_cast<std::size_t>(row)]) + trimmedRight(request.suffix))
        .left(DialerDesign::DialStringLimit);
}

QString calledParty(const DialRequest& request, int row)
{
    return request.labels[static_cast<std::size_t>(row)].left(DialerDesign::CalledPartyLimit);
}

QString verifyDescription(const DialRequest& request, int row)
{
    // A number the window shows without a label is named by what a screen reader says of it.
    const auto at = static_cast<std::size_t>(row);
    QString name = trimmedRight(request.labels[at]);
    if (name.isEmpty())
        name = trimmedRight(request.spoken[at]);
    if (name.isEmpty())
        name = QStringLiteral("Number to dial");
    return name + u':';
}

} // namespace fundora::core
