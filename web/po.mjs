// Reads a gettext PO catalogue into { msgid: msgstr }: the page's texts
// (web/po/pt.po) in the convention of the programs' own po/pt.po. The
// header and fuzzy entries are left out.

export function parsePo(text) {
  const entries = {};
  let id = null, str = null, state = null, fuzzy = false;
  const unquote = (s) => JSON.parse(s);
  const flush = () => {
    if (id && str !== null && !fuzzy) entries[id] = str;
    id = str = state = null;
    fuzzy = false;
  };
  for (const line of text.replace(/\r/g, '').split('\n')) {
    if (line.startsWith('"')) {
      if (state === 'id') id += unquote(line);
      else if (state === 'str') str += unquote(line);
      continue;
    }
    if (state === 'str') flush();
    if (line.startsWith('#,') && line.includes('fuzzy')) fuzzy = true;
    else if (line.startsWith('msgid ')) (id = unquote(line.slice(6))), (state = 'id');
    else if (line.startsWith('msgstr ')) (str = unquote(line.slice(7))), (state = 'str');
  }
  if (state === 'str') flush();
  return entries;
}
