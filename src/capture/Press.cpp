#include "capture/Press.h"

namespace vantrel::Press {

namespace {
bool gUnderWay = false;
bool gAbandoned = false;
}  // namespace

Scope::Scope() {
    gUnderWay = true;
    gAbandoned = false;
}

Scope::~Scope() {
    gUnderWay = false;
    gAbandoned = false;
}

bool UnderWay() {
    return gUnderWay;
}

void Abandon() {
    if (gUnderWay)
        gAbandoned = true;
}

bool IsAbandoned() {
    return gAbandoned;
}

void Check() {
    if (gAbandoned)
        throw Abandoned("the press was abandoned");
}

}  // namespace vantrel::Press
