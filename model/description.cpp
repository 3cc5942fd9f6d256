// The words of an action, for messages.
#include "model/description.h"

namespace velmora {

const char* actionName(const Action& a) {
    switch (a.kind) {
        case Kind::leftEnd:
            return "F1";
        case Kind::spring:
            return "F2";
        case Kind::beamSection:
            return "F3";
        case Kind::pointLoad:
            return "F4";
        case Kind::shaftSection:
            return "F5";
        case Kind::intermediate:
            return "F6 Zwischenbedingung";
        case Kind::rightEnd:
            return "F6 rechtes Tr\xc3\xa4gerende";
        case Kind::evaluate:
            return "F7";
    }
    return "";
}

}  // namespace velmora
