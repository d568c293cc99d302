#ifndef VARID_UI_UNDOOFFER_H
#define VARID_UI_UNDOOFFER_H

#include <functional>

#include <wx/string.h>

#include "grid/PanelContents.h"

class NoticeBar;

// Undo of one action: what the panel showed and the program mode before it,
// offered in the notice bar with the button "Undo" until another notice or
// an edit takes the bar. The offer is known by its notice's id, never by its
// text.
class UndoOffer {
public:
    struct Snapshot {
        panel::Contents contents;
        int nProgramMode = 0;
    };
    using Restore = std::function<void(const Snapshot&)>;

    UndoOffer(NoticeBar* pNotice, Restore fnRestore);

    // Shows strText with "Undo", which restores the snapshot; to be called
    // after the action's own changes.
    void Offer(Snapshot snapshot, const wxString& strText);
    // Restores the offered snapshot while its notice shows (the shortcut);
    // false when no undo notice shows.
    bool Undo();

private:
    NoticeBar* m_pNotice;
    Restore m_fnRestore;
};

#endif
