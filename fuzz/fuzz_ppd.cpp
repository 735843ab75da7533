// The printing-model reader on any bytes: a load ends in a model or a ZorError.

#include "FuzzInput.h"

#include "CurveFolderWatch.h"
#include "Dialogs.h"
#include "PlainOptionBox.h"
#include "PpdLoader.h"
#include "TPrintingModel.h"
#include "ZorError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzStartQt();
    fuzzFile(QStringLiteral("install/ppd/M.ppd"), data, size);
    ScopedRecordingDialogs dialogs; // a list mismatch is reported in a message box
    TPrintingModel model;
    PlainOptionBox boxes[9];
    CurveFolderWatch watch;
    PpdLoader loader(model,
                     PrintingModelBoxes{&boxes[0], &boxes[1], &boxes[2], &boxes[3], &boxes[4],
                                        &boxes[5], &boxes[6], &boxes[7], &boxes[8]},
                     watch);
    try {
        loader.LoadPPD(fuzzFolder().filePath(QStringLiteral("install/")), QStringLiteral("M"));
    } catch (const ZorError &) {
    }
    return 0;
}
