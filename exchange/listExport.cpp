#include "exchange/listExport.h"

#include "core/csvTable.h"
#include "exchange/exchangeLists.h"

namespace marlo {

std::vector<std::vector<std::string>> exportListTable(CellContext& context, MemoryImage& image,
                                                      int variant, const ExchangeList& list) {
    ExchangeCells cells(context, image, variant);
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> header{list.keyHeader};
    for (const ExchangeColumn& column : list.columns)
        header.push_back(column.header);
    table.push_back(std::move(header));

    for (const ExchangeRow& row : list.rows) {
        std::vector<std::string> values{row.key};
        const bool used =
            list.usedColumn < 0 || !cells.Show(row, list.columns[list.usedColumn]).text.empty();
        for (const ExchangeColumn& column : list.columns)
            values.push_back(used ? cells.Show(row, column).text : std::string());
        table.push_back(std::move(values));
    }
    return table;
}

std::string exportListCsv(CellContext& context, MemoryImage& image, int variant,
                          const ExchangeList& list) {
    std::string text;
    for (const std::vector<std::string>& record : exportListTable(context, image, variant, list))
        text += csvRecord(record);
    return text;
}

} // namespace marlo
