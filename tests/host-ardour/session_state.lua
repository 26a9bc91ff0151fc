-- The plug-in's grid state chunk as Ardour 7 keeps it in a session file: the base64 text of a
-- <chunk program="0"> element inside the processor's <lxvst> element. Plain Lua 5.3, so that the test needs
-- nothing besides Ardour's own Lua interpreter.
local M = {}

local alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
local value_of = {}
for i = 1, #alphabet do value_of[alphabet:sub (i, i)] = i - 1 end

function M.base64_encode (bytes)
	local out = {}
	for i = 1, #bytes, 3 do
		local a, b, c = bytes:byte (i, i + 2)
		local n = (a << 16) | ((b or 0) << 8) | (c or 0)
		local quad = {}
		for k = 1, 4 do
			local v = (n >> (6 * (4 - k))) & 63
			quad[k] = alphabet:sub (v + 1, v + 1)
		end
		if not b then quad[3] = "=" end
		if not c then quad[4] = "=" end
		out[#out + 1] = table.concat (quad)
	end
	return table.concat (out)
end

-- Returns nil for text that is not base64, so that a garbled chunk fails the test instead of
-- decoding to something near the expected bytes.
function M.base64_decode (text)
	text = text:gsub ("%s", "")
	if #text % 4 ~= 0 then return nil end
	local out = {}
	for i = 1, #text, 4 do
		local quad, pad, n = text:sub (i, i + 3), 0, 0
		for k = 1, 4 do
			local ch = quad:sub (k, k)
			local v = value_of[ch]
			if ch == "=" and i + 3 == #text and k >= 3 then
				pad = pad + 1; v = 0
			elseif v == nil or pad > 0 then
				return nil
			end
			n = (n << 6) | v
		end
		local three = string.char ((n >> 16) & 255, (n >> 8) & 255, n & 255)
		out[#out + 1] = three:sub (1, 3 - pad)
	end
	return table.concat (out)
end

-- Three chords a user could have laid out, each { [note] = stored velocity } of its on cells:
-- different velocities (300 and 200 are stored as written; the player limits them only when it
-- plays), notes 0 and 127 at the edges.
M.known_chords = {
	{ [60] = 100, [64] = 90, [67] = 80 },
	{ [57] = 127, [60] = 1, [64] = 300, [0] = 64 },
	{ [55] = 200, [59] = 100, [62] = 70, [65] = 45, [127] = 99 },
}

-- The chunk of those chords, with off cells that keep a velocity other than the default, so that a
-- chunk rebuilt from on-flags and defaults differs from this one.
function M.known_chunk ()
	local chords, columns, rows = M.known_chords, #M.known_chords, 128
	local off_velocity = { [2] = { [61] = 55 }, [3] = { [12] = 0 } }
	local parts = { string.pack ("<i4i4", columns, rows) }
	for c = 1, columns do
		for note = 0, rows - 1 do
			local v = chords[c][note]
			if v then
				parts[#parts + 1] = string.pack ("<BBBBi4", 1, 0, 0, 0, v)
			else
				parts[#parts + 1] = string.pack ("<BBBBi4", 0, 0, 0, 0, (off_velocity[c] or {})[note] or 100)
			end
		end
	end
	return table.concat (parts)
end

function M.read_file (path)
	local f = assert (io.open (path, "rb"))
	local text = f:read ("a")
	f:close ()
	return text
end

function M.write_file (path, text)
	local f = assert (io.open (path, "wb"))
	f:write (text)
	f:close ()
end

-- The <Processor type=TYPE unique-id=ID> element (TYPE lxvst unless given): start and end offsets
-- of the whole element in the file text; nil when there is none, and an error when there are
-- several, because then the test could not know which one Ardour saved for the track.
function M.find_processor (xml, unique_id, type)
	type = type or "lxvst"
	local found
	local from = 1
	while true do
		local s, e = xml:find ("<Processor [^>]*>", from)
		if not s then break end
		local tag = xml:sub (s, e)
		if tag:find ('type="' .. type .. '"', 1, true) and tag:find ('unique-id="' .. unique_id .. '"', 1, true) then
			assert (not found, "more than one " .. type .. " processor with unique-id " .. unique_id)
			local close = xml:find ("</Processor>", e, true)
			assert (close, "unterminated Processor element")
			found = { first = s, last = close + #"</Processor>" - 1, tag = tag }
		end
		from = e + 1
	end
	return found
end

-- Returns: processor found (bool), the <chunk> text or nil.
function M.stored_chunk (xml, unique_id)
	local p = M.find_processor (xml, unique_id)
	if not p then return false, nil end
	local element = xml:sub (p.first, p.last)
	local text = element:match ("<lxvst[^>]*>%s*<chunk[^>]*>([^<]*)</chunk>")
	return true, text
end

-- Puts base64 text as the chunk of the processor whose <lxvst> element holds no state yet (the
-- form in which Ardour saves a plug-in that gave it no chunk), written the way Ardour writes one.
function M.with_chunk (xml, unique_id, base64)
	local p = assert (M.find_processor (xml, unique_id), "no lxvst processor with unique-id " .. unique_id)
	local element = xml:sub (p.first, p.last)
	local replaced, n = element:gsub ("<lxvst([^>]-)/>", function (attrs)
		return "<lxvst" .. attrs .. ">\n          <chunk program=\"0\">" .. base64 .. "</chunk>\n        </lxvst>"
	end)
	assert (n == 1, "expected one empty <lxvst/> element in the plug-in's processor, found " .. n)
	return xml:sub (1, p.first - 1) .. replaced .. xml:sub (p.last + 1)
end

-- Where two byte strings first differ (1-based), or nil when they are equal.
function M.first_difference (a, b)
	if a == b then return nil end
	for i = 1, math.min (#a, #b) do
		if a:byte (i) ~= b:byte (i) then return i end
	end
	return math.min (#a, #b) + 1
end

return M
