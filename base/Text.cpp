#include "base/Text.h"

namespace brenlow {

namespace {

int search(int lStart, const QString& sText, const QString& sFind, Qt::CaseSensitivity cs)
{
    const int start = lStart < 1 ? 1 : lStart;
    if (start > sText.size() + 1)
        return 0;
    if (sFind.isEmpty())
        return start;
    const qsizetype found = sText.indexOf(sFind, start - 1, cs);
    return found < 0 ? 0 : static_cast<int>(found) + 1;
}

} // namespace

int InStr(int lStart, const QString& sText, const QString& sFind)
{
    return search(lStart, sText, sFind, Qt::CaseSensitive);
}

int InStrNoCase(int lStart, const QString& sText, const QString& sFind)
{
    return search(lStart, sText, sFind, Qt::CaseInsensitive);
}

QString GetBetween(const QString& sSearch, const QString& sStart, const QString& sStop, int& lSearch)
{
    lSearch = InStr(lSearch, sSearch, sStart);
    if (lSearch == 0)
        return {};
    lSearch += static_cast<int>(sStart.size());
    const int stop = InStr(lSearch, sSearch, sStop);
    if (stop > lSearch)
        return sSearch.mid(lSearch - 1, stop - lSearch);
    return {};
}

QString GetBetween(const QString& sSearch, const QString& sStart, const QString& sStop)
{
    int lSearch = 1;
    return GetBetween(sSearch, sStart, sStop, lSearch);
}

} // namespace brenlow
