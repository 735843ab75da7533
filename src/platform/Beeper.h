#pragma once

// The system beep, behind a service so tests can count beeps instead of hearing them.
class Beeper
{
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
    virtual void pause(int milliseconds) = 0;

    static Beeper &instance();
    // Replaces the service (tests); nullptr restores the real beep.
    static void setInstance(Beeper *beeper);
};

class SystemBeeper : public Beeper
{
public:
    void beep() override;
    void pause(int milliseconds) override;
};

class CountingBeeper : public Beeper
{
public:
    void beep() override { ++m_beeps; }
    void pause(int milliseconds) override { m_paused += milliseconds; }
    int beeps() const { return m_beeps; }
    int pausedMilliseconds() const { return m_paused; }
    void reset() { m_beeps = m_paused = 0; }

private:
    int m_beeps = 0;
    int m_paused = 0;
};

class ScopedCountingBeeper : public CountingBeeper
{
public:
    ScopedCountingBeeper() { Beeper::setInstance(this); }
    ~ScopedCountingBeeper() override { Beeper::setInstance(nullptr); }
};

// The only reaction to a non-number in a numeric field: pending events are handled first,
// so the beeps follow what the user just did, then two beeps 250 ms apart.
void ErrorBeep();
