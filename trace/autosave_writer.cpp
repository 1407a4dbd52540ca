// The autosave writer: appends each hand-over of the buffer to the trace file, opening
// and closing the file every time so that several processes can share it.
#include "qel_trace.h"
#include "trace/record_file.h"
#include "trace/ring_writer.h"

void QelClTraceEnvironment::autoSave(const _QelStTraceOverflow* overflow) {
  const auto& environment = *static_cast<const QelClTraceEnvironment*>(overflow->pvContext);
  environment.pclRecorder->pclRecordFile->handOver(overflow->pcFirst, overflow->ulFirstLength, overflow->pcSecond,
                                                   overflow->ulSecondLength,
                                                   environment.pclSettings->hasFlag(QelClTraceSettings::VERBOSE));
}
