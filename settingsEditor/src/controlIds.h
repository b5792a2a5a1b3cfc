#pragma once
// The ids of the settings dialog's controls. The Qt window uses them as object names
// ("1000"...), so tests find a control by the same number the controller uses.

namespace settingsEditor {

enum ControlId : int {
  IDC_URL = 1000,
  IDC_TITLE = 1002,
  IDC_DESCRIPTION = 1003,
  IDC_BASE_URL = 1004,
  IDC_MAX_ITEMS = 1005,
  IDC_SHORTHAND = 1006,
  IDC_SECTION_PATTERN = 1007,
  IDC_ITEM_PATTERN_1 = 1008,
  IDC_ITEM_PATTERN_2 = 1009,
  IDC_ITEM_PATTERN_3 = 1010,
  IDC_LOAD = 1011,
  IDC_SAVE = 1012,
  IDC_PREVIEW = 1013,
  IDC_VIEW_IN_BROWSER = 1015,
  IDC_VIEW = 1016,
  IDC_PATTERN_GROUP = 1017,
  IDCANCEL = 2,
};

}  // namespace settingsEditor
