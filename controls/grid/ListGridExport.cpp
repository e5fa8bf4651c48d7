#include "controls/grid/ListGrid.h"

void ListGrid::ExportGrid(const QString&, bool, bool, bool) {}
void ListGrid::ColOrderSave(const QString&) {}
void ListGrid::ColOrderLoad(const QString&) {}
void ListGrid::ColOrderRestore(const QString&) {}
void ListGrid::ColWidthsSave(const QString&) {}
void ListGrid::ColWidthsLoad(const QString&) {}
void ListGrid::ColWidthAutoSize(int) {}
void ListGrid::ColForceFit() {}
