#include "cli/CliPapers.h"

#include "cli/CliOptions.h"
#include "convert/PaperList.h"

namespace tovra::cli {

void ListPapers(std::ostream& out) {
    TPaperList papers;
    FillPaperList(papers);
    for (int i = 0; i < papers.Count(); ++i)
        out << papers.Text(i) << '\t' << papers.Object(i).X << '\t' << papers.Object(i).Y << '\n';
}

TPaperChoice FindPaper(const std::string& name) {
    TPaperList papers;
    FillPaperList(papers);
    int index = papers.IndexOf(name.empty() ? DefaultPaperName(papers) : name);
    // Without -p, a printer that has neither the system's paper nor Letter gives its first.
    if (index < 0 && name.empty() && papers.Count() > 0) index = 0;
    if (index < 0) throw EUsage("unknown paper '" + name + "' (see --list-papers)");
    return {papers.Text(index), papers.Object(index).X, papers.Object(index).Y};
}

}  // namespace tovra::cli
