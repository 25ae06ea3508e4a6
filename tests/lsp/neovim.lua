-- The language server as Neovim's own client sees it: diagnostics after a
-- mistake typed and after its mending, hover, definition, references,
-- rename (the file saved and checked: no warning), completion, symbols and
-- a quick fix applied. Ends Neovim with 1 at the first failure.
local check = os.getenv("LORVANE_CHECK")
local path = os.getenv("LORVANE_RULES")
local function say(text) io.stdout:write(text .. "\n") end
local function fail(text)
  say("FAIL: " .. text)
  vim.cmd("cquit 1")
end
local function expect(ok, text) if not ok then fail(text) end end

local id = vim.lsp.start_client({ cmd = { check, "--lsp" }, root_dir = vim.fn.fnamemodify(path, ":h") })
vim.cmd("edit " .. path)
local buf = vim.api.nvim_get_current_buf()
vim.lsp.buf_attach_client(buf, id)
local client = vim.lsp.get_client_by_id(id)
local uri = vim.uri_from_bufnr(buf)
local function line_of(start)
  for i, l in ipairs(vim.api.nvim_buf_get_lines(buf, 0, -1, false)) do
    if l:sub(1, #start) == start then return i - 1, l end
  end
  fail("no line " .. start)
end
local function request(method, params)
  local answers = vim.lsp.buf_request_sync(buf, method, params, 5000)
  expect(answers and answers[id], method .. " got no answer")
  expect(answers[id].err == nil, method .. ": " .. vim.inspect(answers[id].err))
  return answers[id].result
end
local function pos(line, character)
  return { textDocument = { uri = uri }, position = { line = line, character = character } }
end
local function wait_for(condition, text) expect(vim.wait(10000, condition, 20), text) end
local function show_diagnostics()
  for _, d in ipairs(vim.diagnostic.get(buf)) do
    say(string.format("diagnostic %d:%d-%d %s %s", d.lnum + 1, d.col, d.end_col, d.code, d.message))
  end
end

-- The sample has nothing to say; a typo in a prerequisite is a warning at its field.
wait_for(function() return client.initialized end, "the server did not start")
local bronze, text = line_of("Bronze Casting")
local col = text:find("Cop") - 1
vim.api.nvim_buf_set_text(buf, bronze, col, bronze, col + 3, { "Coq" })
wait_for(function() return #vim.diagnostic.get(buf) == 1 end, "no diagnostic after the typo")
show_diagnostics()
local d = vim.diagnostic.get(buf)[1]
expect(d.lnum == bronze and d.col == col and d.end_col == col + 3 and d.code == "unknown-prerequisite",
  "the typo's diagnostic is not at its field")

-- Its quick fix, applied, clears it.
local actions = request("textDocument/codeAction", {
  textDocument = { uri = uri },
  range = { start = { line = bronze, character = col }, ["end"] = { line = bronze, character = col + 3 } },
  context = { diagnostics = vim.lsp.diagnostic.get_line_diagnostics(buf, bronze) },
})
expect(#actions == 1, "no quick fix")
say("quick fix: " .. actions[1].title)
vim.lsp.util.apply_workspace_edit(actions[1].edit, client.offset_encoding)
wait_for(function() return #vim.diagnostic.get(buf) == 0 end, "the quick fix left a diagnostic")
say("diagnostics after the quick fix: " .. #vim.diagnostic.get(buf))
expect(vim.api.nvim_buf_get_lines(buf, bronze, bronze + 1, false)[1] == text, "the fix is not the line")

-- Hover and definition on a prerequisite code.
local hover = request("textDocument/hover", pos(bronze, col + 1))
say("hover:\n" .. hover.contents.value)
expect(hover.contents.value:find("^%*%*Copper Smelting%*%* %[Cop%]") ~= nil, "hover names no advance")
local definition = request("textDocument/definition", pos(bronze, col + 1))
local copper = line_of("Copper Smelting")
say("definition: line " .. (definition.range.start.line + 1))
expect(definition.range.start.line == copper, "definition is not Copper Smelting's line")
local uses = request("textDocument/references", {
  textDocument = { uri = uri }, position = { line = bronze, character = col + 1 }, context = { includeDeclaration = true } })
say("references: " .. #uses)
expect(#uses >= 2, "too few references")

-- Completion in a code field: the codes with their names.
local completion = request("textDocument/completion", pos(bronze, col + 1))
local found = false
for _, item in ipairs(completion.items) do found = found or (item.label == "Fli" and item.detail == "Flint Knapping") end
expect(found, "completion lacks Fli")
say("completion: " .. #completion.items .. " codes")

-- The outline.
local symbols = request("textDocument/documentSymbol", { textDocument = { uri = uri } })
expect(symbols[1].name == "@CIVILIZE" and #symbols[1].children > 50, "no advances in the outline")
say("symbols: " .. #symbols[1].children .. " advances, " .. #symbols[2].children .. " units")

-- Rename Cop everywhere, save, and check the file: no warning.
local edit = request("textDocument/rename", { textDocument = { uri = uri },
  position = { line = bronze, character = col + 1 }, newName = "Cpr" })
vim.lsp.util.apply_workspace_edit(edit, client.offset_encoding)
vim.cmd("silent write")
local report = vim.fn.json_decode(vim.fn.system({ check, "--json", path }))
say("after rename: " .. #report.diagnostics .. " warnings; " .. vim.fn.system({ "grep", "-c", "Cpr", path }):gsub("\n", "") .. " lines with Cpr")
expect(vim.v.shell_error == 0 and #report.diagnostics == 0, "the renamed file has warnings")

vim.lsp.stop_client(id)
vim.cmd("qall!")
