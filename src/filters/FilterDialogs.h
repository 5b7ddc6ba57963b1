#pragma once

struct AsciiSettingsFields;

// The dialogs a filter opens when the user configures it. The window shows
// real ones; without a window every dialog is cancelled.
class CFilterDialogs {
public:
    virtual ~CFilterDialogs() = default;

    // The modal "ASCII Filter Settings" dialog over `fields`. True when it
    // was closed with OK; only then are `fields` changed.
    [[nodiscard]] virtual bool EditAsciiSettings(AsciiSettingsFields& fields) = 0;

    // The dialogs of a run without a window: each one cancelled.
    static CFilterDialogs& None();
};
