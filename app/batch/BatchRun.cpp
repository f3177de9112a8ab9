#include "app/batch/BatchRun.h"

#include "app/batch/BatchArgs.h"
#include "app/batch/BatchCommands.h"
#include "app/document/UserCatalog.h"
#include "app/shell/CommandLine.h"

#include <ostream>

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const BatchRequest request = ParseBatchArgs(args);
    if (!request.usageError.empty()) {
        err << "Brindle: " << request.usageError << "\n\n" << UsageText();
        return 2;
    }
    // Without its catalog the run goes on; documents that need it fail on their own.
    if (const std::string fault = ApplyUserCatalog(); !fault.empty()) err << "Brindle: " << fault << '\n';
    BatchReport report(err);
    const std::vector<std::string>& operands = request.operands;
    switch (request.command) {
    case BatchRequest::Command::Validate:
        for (const std::string& file : operands) BatchValidate(file, report);
        break;
    case BatchRequest::Command::Transform: BatchTransform(operands[0], operands[1], operands[2], report); break;
    case BatchRequest::Command::Format:
        BatchFormat(operands[0], operands.size() > 1 ? operands[1] : std::string(), request.toStdout, out, report);
        break;
    case BatchRequest::Command::RunPlugin: {
        BatchWriteBack writes(report);
        for (size_t i = 1; i < operands.size(); ++i) BatchRunPlugin(operands[0], operands[i], request.toStdout, out, writes);
        writes.Finish();
        break;
    }
    case BatchRequest::Command::XPath:
        for (size_t i = 1; i < operands.size(); ++i)
            BatchXPath(request, operands[i], operands.size() > 2, out, report);
        break;
    case BatchRequest::Command::None: break;
    }
    out.flush();
    return report.Failed() ? 1 : 0;
}
