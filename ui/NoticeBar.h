#ifndef VARID_UI_NOTICEBAR_H
#define VARID_UI_NOTICEBAR_H

#include <functional>

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/stattext.h>

// One notice above the grids, with one action button: a note the operator may
// act on or ignore, instead of a modal box that stops the work. A newer notice
// replaces the one shown.
class NoticeBar : public wxPanel {
public:
    // What a notice is about, so that a notice is known by its id, never by
    // its text.
    enum NoticeId {
        kNoticeNone,
        kNoticeUndo,
        kNoticeBetterRoot,
        kNoticeSessionRestored,
        kNoticeOther
    };

    explicit NoticeBar(wxWindow* pParent);

    void ShowNotice(NoticeId nId, const wxString& strText, const wxString& strButton,
                    std::function<void()> fnAction);
    // Hides the notice and forgets its action.
    void Dismiss();
    // Runs the action of the notice shown (the button, or its shortcut);
    // false when no notice is shown.
    bool Act();

    // The bar itself always shows, as room for a notice.
    bool HasNotice() const { return static_cast<bool>(m_fnAction); }
    // kNoticeNone when no notice shows.
    NoticeId GetNoticeId() const { return HasNotice() ? m_nId : kNoticeNone; }
    wxString GetText() const { return m_strText; }
    wxButton* GetButton() const { return m_pButton; }

private:
    void OnButton(wxCommandEvent& event);
    // A long notice wraps to the bar's width instead of widening the window.
    void OnSize(wxSizeEvent& event);
    void WrapText();
    // The text and the button, with the bar's colour; the room stays.
    void ShowContents(bool bShow);
    // The bar may sit inside a placeholder window of the layout document:
    // every window up to the top one must learn the new size.
    void Relayout();

    wxStaticText* m_pText;
    wxButton* m_pButton;
    std::function<void()> m_fnAction;
    NoticeId m_nId;
    wxString m_strText;  // as given, without the line breaks of the wrapping
    int m_nWrapWidth;    // width the text is wrapped to now
};

#endif
