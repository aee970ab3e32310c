#include "exchange/listExport.h"

#include "core/csvTable.h"
#include "exchange/exchangeLists.h"

std::vector<std::vector<std::string>> exportListTable(cmcCellContext& context, cmcEeprom& image,
                                                      int variant, const cmcExchangeList& list) {
    cmcExchangeCells cells(context, image, variant);
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> header{list.keyHeader};
    for (const cmcExchangeColumn& column : list.columns)
        header.push_back(column.header);
    table.push_back(std::move(header));

    for (const cmcExchangeRow& row : list.rows) {
        std::vector<std::string> values{row.key};
        const bool used =
            list.usedColumn < 0 || !cells.Show(row, list.columns[list.usedColumn]).text.empty();
        for (const cmcExchangeColumn& column : list.columns)
            values.push_back(used ? cells.Show(row, column).text : std::string());
        table.push_back(std::move(values));
    }
    return table;
}

std::string exportListCsv(cmcCellContext& context, cmcEeprom& image, int variant,
                          const cmcExchangeList& list) {
    std::string text;
    for (const std::vector<std::string>& record : exportListTable(context, image, variant, list))
        text += cmcCsvRecord(record);
    return text;
}
