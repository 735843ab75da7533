// The editor's part of a curve creation run: the button stays disabled while the tool
// works, and what went wrong is shown once the run is over.
#include "TInkDescription.h"

#include "CurveCreationRun.h"
#include "Dialogs.h"

#include <QComboBox>
#include <QPushButton>

namespace {

// Keeps the button disabled for as long as it lives, whatever ends the run.
class DisabledWhileRunning
{
public:
    explicit DisabledWhileRunning(QPushButton *button) : m_button(button)
    {
        m_button->setEnabled(false);
    }
    ~DisabledWhileRunning() { m_button->setEnabled(true); }
    DisabledWhileRunning(const DisabledWhileRunning &) = delete;
    DisabledWhileRunning &operator=(const DisabledWhileRunning &) = delete;

private:
    QPushButton *m_button;
};

} // namespace

void TInkDescription::runCurveCreation()
{
    CurveCreationJob job;
    job.installFolder = m_context.installFolder;
    job.workFolder = m_context.workFolder;
    job.model = PrintingModelName->currentText();
    job.descriptionPath = DescriptionFileName;
    job.debugging = m_context.debugging && m_context.debugging();
    CurveCreationOutcome outcome;
    {
        const DisabledWhileRunning disabled(CreateCurveBtn);
        job.curvewrightVersion = curvewrightVersion();
        outcome = runCurvewright(job, m_context.report, m_context.graphs);
    }
    if (!outcome.error.isEmpty())
        Dialogs::instance().applicationError(outcome.error);
}
