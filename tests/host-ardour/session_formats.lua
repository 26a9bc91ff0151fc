-- How Ardour 7 keeps the plug-in's state in a session, for each format the plug-in comes in, and
-- the known grid written in that form. Each format gives:
--   type, lookup      the plug-in type and the name or URI Ardour finds it by
--   unique_id, kind   the processor's unique-id and type attributes in the session file
--   fresh             what a fresh instance (no grid) leaves stored: nil (nothing) or "" (no bytes)
--   stored (sdir, xml)         -> processor found, the plug-in's own state bytes (nil: none)
--   with_state (sdir, xml, b)  -> the session file's text with the bytes b as the stored state
-- Plain Lua 5.3: nothing besides Ardour's own interpreter.
local here = assert (os.getenv ("CORVADEL_TEST_DIR"), "CORVADEL_TEST_DIR not set")
local state = dofile (here .. "/session_state.lua")
local F = {}

---------------------------------------------------------------------------------------------------
-- VST 2: the chunk itself, base64, in the processor's <lxvst><chunk> element.
F.vst2 = { type = "LXVST", lookup = "Corvadel", unique_id = "1145521460", kind = "lxvst", fresh = nil }

function F.vst2.stored (_, xml)
	local found, text = state.stored_chunk (xml, F.vst2.unique_id)
	return found, text and state.base64_decode (text)
end

function F.vst2.with_state (_, xml, bytes)
	return state.with_chunk (xml, F.vst2.unique_id, state.base64_encode (bytes))
end

---------------------------------------------------------------------------------------------------
-- VST 3: a VST 3 preset, base64, in the processor's <vst3><chunk> element: "VST3", version, the
-- class id, the offset of the list of sections; the component's stream ("Comp") among them. JUCE's
-- client appends its own data to the plug-in's bytes in that stream.
F.vst3 = { type = "VST3", lookup = "Corvadel", unique_id = "ABCDEF019182FAEB566E746C44474534", kind = "vst3", fresh = "" }

local client_magic = "JUCEPrivateData"

local function preset_component (preset)
	if not preset or #preset < 48 or preset:sub (1, 4) ~= "VST3" then return nil end
	local list_at = string.unpack ("<i8", preset, 41) + 1
	if preset:sub (list_at, list_at + 3) ~= "List" then return nil end
	local count = string.unpack ("<i4", preset, list_at + 4)
	for i = 0, count - 1 do
		local entry = list_at + 8 + i * 20
		local id, offset, size = preset:sub (entry, entry + 3), string.unpack ("<i8i8", preset, entry + 4)
		if id == "Comp" then return preset:sub (offset + 1, offset + size) end
	end
	return nil
end

local function without_client_data (stream)
	if #stream < #client_magic + 16 or stream:sub (-#client_magic) ~= client_magic then return nil end
	local private_size = string.unpack ("<i8", stream, #stream - #client_magic - 7)
	return stream:sub (1, #stream - #client_magic - 16 - private_size)
end

local function vst3_element (xml)
	local p = state.find_processor (xml, F.vst3.unique_id, "vst3")
	if not p then return nil end
	return p, xml:sub (p.first, p.last)
end

function F.vst3.stored (_, xml)
	local p, element = vst3_element (xml)
	if not p then return false, nil end
	local text = element:match ("<vst3[^>]*>.-<chunk>([^<]*)</chunk>")
	local stream = text and preset_component (state.base64_decode (text))
	return true, stream and without_client_data (stream)
end

function F.vst3.with_state (_, xml, bytes)
	local p, element = vst3_element (xml)
	assert (p, "no vst3 processor with unique-id " .. F.vst3.unique_id)
	local preset = "VST3" .. string.pack ("<i4", 1) .. F.vst3.unique_id .. string.pack ("<i8", 48 + #bytes)
	               .. bytes .. "List" .. string.pack ("<i4", 1) .. "Comp" .. string.pack ("<i8i8", 48, #bytes)
	local replaced, n = element:gsub ("(<vst3[^>]*>.-<chunk>)[^<]*(</chunk>)",
	                                  function (open, close) return open .. state.base64_encode (preset) .. close end)
	assert (n == 1, "expected one <chunk> in the vst3 processor, found " .. n)
	return xml:sub (1, p.first - 1) .. replaced .. xml:sub (p.last + 1)
end

---------------------------------------------------------------------------------------------------
-- LV2: a state directory of the processor's own (plugins/ID/STATE-DIR/state.ttl) holding the
-- plug-in's StateString property, the bytes in JUCE's base64 ("SIZE." and 6-bit groups, lowest
-- bits first, from the alphabet below).
F.lv2 = { type = "LV2", lookup = "https://vantrelle.com/plugins/corvadel",
          unique_id = "https://vantrelle.com/plugins/corvadel", kind = "lv2", fresh = "" }

local juce_alphabet = ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+"
local juce_value = {}
for i = 1, #juce_alphabet do juce_value[juce_alphabet:sub (i, i)] = i - 1 end

function F.juce_base64_encode (bytes)
	local out, acc, bits = {}, 0, 0
	for i = 1, #bytes do
		acc = acc | (bytes:byte (i) << bits); bits = bits + 8
		while bits >= 6 do
			out[#out + 1] = juce_alphabet:sub ((acc & 63) + 1, (acc & 63) + 1); acc = acc >> 6; bits = bits - 6
		end
	end
	if bits > 0 then out[#out + 1] = juce_alphabet:sub ((acc & 63) + 1, (acc & 63) + 1) end
	return #bytes .. "." .. table.concat (out)
end

-- nil for text that is not JUCE's base64 of as many bytes as it says.
function F.juce_base64_decode (text)
	local size, digits = text:match ("^(%d+)%.(.*)$")
	if not size then return nil end
	size = tonumber (size)
	local out, acc, bits = {}, 0, 0
	for i = 1, #digits do
		local v = juce_value[digits:sub (i, i)]
		if not v then return nil end
		acc = acc | (v << bits); bits = bits + 6
		while bits >= 8 and #out < size do
			out[#out + 1] = string.char (acc & 255); acc = acc >> 8; bits = bits - 8
		end
	end
	if #out ~= size then return nil end
	return table.concat (out)
end

local function lv2_state_file (sdir, xml)
	local p = state.find_processor (xml, F.lv2.unique_id, "lv2")
	if not p then return nil end
	local id = p.tag:match (' id="(%d+)"')
	local dir = xml:sub (p.first, p.last):match ('<lv2[^>]-state%-dir="([^"]+)"')
	assert (id and dir, "the lv2 processor names no state directory")
	return sdir .. "/plugins/" .. id .. "/" .. dir .. "/state.ttl"
end

local state_pattern = '(StateString>%s*")([^"]*)(")'

function F.lv2.stored (sdir, xml)
	local file = lv2_state_file (sdir, xml)
	if not file then return false, nil end
	local literal = select (2, state.read_file (file):match (state_pattern))
	return true, literal and F.juce_base64_decode (literal)
end

function F.lv2.with_state (sdir, xml, bytes)
	local file = assert (lv2_state_file (sdir, xml), "no lv2 processor for " .. F.lv2.unique_id)
	local text, n = state.read_file (file):gsub (state_pattern,
		function (open, _, close) return open .. F.juce_base64_encode (bytes) .. close end)
	assert (n == 1, "expected one StateString in " .. file .. ", found " .. n)
	state.write_file (file, text)
	return xml
end

return F
