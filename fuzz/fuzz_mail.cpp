// The mail channel's messages and frames on any bytes: the input is one message, and
// also a byte stream cut into pieces whose lengths the input's own bytes choose.

#include "FuzzInput.h"

#include "MailMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const MailMessage message = parseMailMessage(bytes);
    message.path();
    if (makeMailMessage(message.code, message.pathBytes) != bytes && !bytes.isEmpty())
        __builtin_trap(); // a message must survive the round trip

    // Frames read back, framed again, give the bytes they were read from.
    MailFrameReader reader;
    QByteArray reframed;
    qsizetype at = 0;
    while (at < bytes.size() && !reader.hasError()) {
        const qsizetype piece = 1 + uchar(bytes[at]) % 37;
        reader.feed(bytes.mid(at, piece));
        at += piece;
        while (const std::optional<Frame> frame = reader.next())
            reframed += makeFrame(frame->kind, frame->payload);
    }
    if (!reader.hasError() &&
        (!bytes.startsWith(reframed) || reader.bufferedBytes() != bytes.size() - reframed.size()))
        __builtin_trap();
    return 0;
}
