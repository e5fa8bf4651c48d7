#include "controls/grid/ListGrid.h"

void ListGrid::Sort(int, int, int, int) {}
int ListGrid::FindItem(const QString&, int, int, bool, int)
{
    return -1;
}
void ListGrid::FilterOn(const QString&, int, int, bool, int) {}
void ListGrid::FilterOff(int) {}
