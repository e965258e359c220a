#pragma once
// A division's custom earnings file: per finishing position either a share
// of the purse in percent ("[rates]") or a fixed amount ("[money]").

#include <QString>

#include <array>

class CustomEarnings {
public:
    bool bRates = false;
    bool bMoney = false;
    QString sFile;        // relative to the program folder
    bool bError = false;  // the file could not be read; never reset
    QString sErrorMsg;

    void Load();
    // The value of a position; 0 for a position without a slot.
    double GetEarnings(int position) const;

    static constexpr int kLastPosition = 50;

private:
    std::array<double, kLastPosition + 1> dPosValue{};
};
