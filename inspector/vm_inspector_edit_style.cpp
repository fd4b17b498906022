// The edit style the inspector hands its in-place editors.
#include "inspector/vm_inspector.h"

#include <algorithm>
#include <cstring>

#include "inspector/vm_dropdown.h"
#include "platform/bitmap.h"
#include "platform/dragdrop.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TvmInspectorEditStyle)

TvmInspectorEditStyle::TvmInspectorEditStyle(TvmInplaceEdit* AEdit, TCustomvmInspector* AInspector)
    : TvmGridEditStyle(AEdit), FInspector(AInspector) {
  RestoreDefaults();
}

TvmEditBorderStyle TvmInspectorEditStyle::GetDefaultBorderStyle() const {
  return FInspector && FInspector->PaintStyle() == ipsCategorized ? xbsFlat : xbsNone;
}

TvmEditButtonViewStyle TvmInspectorEditStyle::GetDefaultButtonStyle() const {
  return FInspector && (FInspector->PaintStyle() == ipsCategorized || FInspector->Flat()) ? btsFlat : bts3D;
}
