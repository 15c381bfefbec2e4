#pragma once

#include "Controls.h"

class TEdit;

enum class TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum class TUDBtnType { btNext, btPrev };

// A horizontal track bar (msctls_trackbar32). OnChange is the user's move only.
class TTrackBar : public TWinControl {
public:
    TTrackBar(TComponent* owner, TParent parent);
    void SetRange(int min, int max);
    int Position() const;
    // From code: raises nothing.
    void SetPosition(int position);
    void SetFrequency(int frequency);
    void SetTickMarks(TTickMark marks);

protected:
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    int lastPosition_ = 0;
};

// Up-down arrows (msctls_updown32) bound to an edit whose text shows the position.
class TUpDown : public TWinControl {
public:
    TUpDown(TComponent* owner, TParent parent);
    // The edit that shows the position; both keep the places they were given.
    void SetAssociate(TEdit* edit);
    void SetRange(int min, int max);
    void SetIncrement(int increment);
    void SetWrap(bool wrap);
    // Follows the edit's text.
    int Position() const;
    // From code: neither this control nor the edit raises an event.
    void SetPosition(int position);

    // A click on an arrow, after the position moved.
    std::function<void(TComponent* sender, TUDBtnType button)> OnClickButton;

protected:
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TEdit* associate_ = nullptr;
    int lastPosition_ = 0;
};
