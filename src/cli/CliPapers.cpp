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
    const int index = papers.IndexOf(name);
    if (index < 0) throw EUsage("unknown paper '" + name + "' (see --list-papers)");
    return {papers.Text(index), papers.Object(index).X, papers.Object(index).Y};
}

}  // namespace tovra::cli
