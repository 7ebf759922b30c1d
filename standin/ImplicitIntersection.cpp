#include "ImplicitIntersection.h"

namespace xlstandin {

namespace {

bool Within(std::int32_t index, std::int32_t first, std::int32_t last) {
    return index >= first && index <= last;
}

} // namespace

bool ImplicitIntersection::Of(const HostValue& argument, const CellArea* caller,
                              HostValue& single) {
    if (!argument.Is(HostValue::Kind::Reference) || argument.Areas().size() != 1) {
        single = argument; // several areas fail where they are read, as anywhere else
        return true;
    }
    const CellArea& area = argument.Areas()[0];
    const bool oneRow = area.rowFirst == area.rowLast;
    const bool oneColumn = area.columnFirst == area.columnLast;
    if (oneRow && oneColumn) {
        single = argument;
        return true;
    }
    if (caller == nullptr || (!oneRow && !oneColumn)) {
        return false;
    }
    CellArea cell = area;
    if (oneColumn) {
        if (!Within(caller->rowFirst, area.rowFirst, area.rowLast)) {
            return false;
        }
        cell.rowFirst = cell.rowLast = caller->rowFirst;
    } else {
        if (!Within(caller->columnFirst, area.columnFirst, area.columnLast)) {
            return false;
        }
        cell.columnFirst = cell.columnLast = caller->columnFirst;
    }
    single = HostValue::Reference(argument.SheetId(), {cell});
    return true;
}

} // namespace xlstandin
