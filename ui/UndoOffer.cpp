#include "ui/UndoOffer.h"

#include <wx/intl.h>

#include "ui/NoticeBar.h"

UndoOffer::UndoOffer(NoticeBar* pNotice, Restore fnRestore)
    : m_pNotice(pNotice), m_fnRestore(std::move(fnRestore)) {}

void UndoOffer::Offer(Snapshot snapshot, const wxString& strText) {
    m_pNotice->ShowNotice(NoticeBar::kNoticeUndo, strText, _("Undo"),
                          [this, snapshot = std::move(snapshot)]() { m_fnRestore(snapshot); });
}

bool UndoOffer::Undo() {
    // Another notice (advice, say) may have replaced the undo offer; the
    // shortcut must not run that one's action.
    if (m_pNotice->GetNoticeId() != NoticeBar::kNoticeUndo) return false;
    return m_pNotice->Act();
}
