#include "engine/plain/SourceKind.h"

#include "engine/plain/InstallPlan.h"

SourceKind KindOfSource(unsigned rootLists, const SetSizes& sizes)
{
    const int update = UpdateStep().List;
    if (!(rootLists & (1u << update))) return SourceKind::Installation;
    for (const InstallStep& step : InstallSteps()) {
        if (step.List == update) continue;
        if (rootLists & (1u << step.List)) return SourceKind::Installation;
        for (const SizedFile& file : sizes.Files)
            if (file.List == step.List) return SourceKind::Installation;
    }
    return SourceKind::Update;
}
