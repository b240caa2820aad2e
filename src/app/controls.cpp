#include "app/controls.h"

namespace sousuo {

std::string_view controlName(Control control) {
    switch (control) {
        case Control::mainWindow: return "mainWindow";
        case Control::bannerLabel: return "bannerLabel";
        case Control::toolbarGroup: return "toolbarGroup";
        case Control::dragLabel: return "dragLabel";
        case Control::closeButton: return "closeButton";
        case Control::resetButton: return "resetButton";
        case Control::searchButton: return "searchButton";
        case Control::queryEdit: return "queryEdit";
        case Control::resultsBrowser: return "resultsBrowser";
    }
    return "unknown";
}

}  // namespace sousuo
