// The report page's behaviour: find-as-you-type over the contents, the
// contents following the scroll, links from the diagram's tables, and, in a
// large report, objects rendered from the embedded data as they come into
// view. The page reads completely without it, except a large report's objects.
"use strict";
(function () {
    const contents = document.getElementById("contents");
    const find = document.getElementById("find");
    const findCount = document.getElementById("find-count");
    if (!contents || !find) {
        return;
    }
    const objectLinks = Array.from(contents.querySelectorAll("a.object-link"));
    const linkFor = new Map();
    for (const link of contents.querySelectorAll("a")) {
        linkFor.set(link.hash.slice(1), link);
    }

    // --- Objects of a large report, rendered from the embedded data: chunks
    // of compressed bodies, each unpacked when one of its objects is shown.
    const chunks = Array.from(document.querySelectorAll("script[id^='report-objects-']"));
    const chunkSize = chunks.length ? Number(chunks[0].dataset.size) : 1;
    const decoded = new Map();
    const decoding = new Map();

    async function unpack(text) {
        const binary = atob(text.trim());
        const bytes = new Uint8Array(binary.length);
        for (let i = 0; i < binary.length; ++i) {
            bytes[i] = binary.charCodeAt(i);
        }
        const stream = new Response(bytes).body.pipeThrough(new DecompressionStream("gzip"));
        return JSON.parse(await new Response(stream).text());
    }

    function chunkOf(element) {
        return Math.floor(Number(element.dataset.object) / chunkSize);
    }

    // The chunk's bodies, unpacked once.
    function ensure(chunk) {
        if (!decoding.has(chunk)) {
            decoding.set(chunk, unpack(chunks[chunk].textContent).then((bodies) => {
                decoded.set(chunk, bodies);
            }));
        }
        return decoding.get(chunk);
    }

    // Renders a pending object (or the diagram) whose chunk is unpacked.
    function renderNow(element) {
        if (!element.classList.contains("pending")) {
            return;
        }
        const bodies = decoded.get(chunkOf(element));
        const template = document.createElement("template");
        template.innerHTML = bodies[Number(element.dataset.object) % chunkSize] || "";
        const holder = element.querySelector(".pending-note");
        if (holder) {
            holder.replaceWith(template.content);
        } else {
            element.append(template.content);
        }
        element.classList.remove("pending");
        if (element.classList.contains("diagram")) {
            linkDiagram(element);
        }
    }

    async function render(element) {
        await ensure(chunkOf(element));
        renderNow(element);
    }

    // Objects coming into view are rendered a few at a time, so that a jump
    // shows its target first.
    const queue = [];
    let draining = false;
    function drain() {
        draining = false;
        const started = performance.now();
        const later = [];
        while (queue.length && performance.now() - started < 8) {
            const element = queue.shift();
            if (decoded.has(chunkOf(element))) {
                renderNow(element);
            } else {
                later.push(element);
                ensure(chunkOf(element)).then(schedule);
            }
        }
        queue.push(...later);
        if (queue.length > later.length) {
            schedule();
        }
    }
    function schedule() {
        if (!draining) {
            draining = true;
            setTimeout(drain, 0);
        }
    }
    if (chunks.length) {
        const observer = new IntersectionObserver((entries) => {
            for (const entry of entries) {
                if (entry.isIntersecting) {
                    observer.unobserve(entry.target);
                    queue.push(entry.target);
                }
            }
            schedule();
        }, { rootMargin: "800px 0px" });
        document.querySelectorAll(".pending[data-object]").forEach((e) => observer.observe(e));
    }

    function targetOfHash() {
        const id = location.hash.slice(1);
        if (!id) {
            return null;
        }
        let decoded = id;
        try {
            decoded = decodeURIComponent(id);
        } catch (error) {
            // not a percent-encoded name: the identifier as it is
        }
        return document.getElementById(id) || document.getElementById(decoded);
    }

    async function showTarget() {
        const target = targetOfHash();
        if (!target) {
            return;
        }
        mark(target.id);
        if (target.classList.contains("pending")) {
            await render(target);
            target.scrollIntoView();
        }
    }
    window.addEventListener("hashchange", showTarget);

    // --- The contents follow the scroll.
    let current = null;
    function mark(id) {
        const link = linkFor.get(id);
        if (!link || link === current) {
            return;
        }
        if (current) {
            current.removeAttribute("aria-current");
        }
        current = link;
        link.setAttribute("aria-current", "true");
        const top = link.offsetTop - contents.offsetTop;
        if (top < contents.scrollTop || top > contents.scrollTop + contents.clientHeight - 40) {
            contents.scrollTop = top - contents.clientHeight / 3;
        }
    }
    const visible = new Set();
    const follower = new IntersectionObserver((entries) => {
        for (const entry of entries) {
            if (entry.isIntersecting) {
                visible.add(entry.target);
            } else {
                visible.delete(entry.target);
            }
        }
        // The first object in view, or the section when none is.
        let first = null;
        for (const element of visible) {
            const object = element.tagName === "ARTICLE";
            const better = !first || (object && first.tagName !== "ARTICLE") ||
                (object === (first.tagName === "ARTICLE") &&
                 element.compareDocumentPosition(first) & Node.DOCUMENT_POSITION_FOLLOWING);
            if (better) {
                first = element;
            }
        }
        if (first) {
            mark(first.id);
        }
    }, { rootMargin: "0px 0px -70% 0px" });
    document.querySelectorAll("main [id].part, main article.object").forEach((e) => follower.observe(e));

    // --- Find as you type over the objects' names.
    const lowerNames = objectLinks.map((link) => link.textContent.toLowerCase());
    let applied = "";
    function applyFind() {
        const words = find.value.trim().toLowerCase();
        let first = null;
        let shown = 0;
        for (let i = 0; i < objectLinks.length; ++i) {
            const hit = !words || lowerNames[i].includes(words);
            const item = objectLinks[i].parentElement;
            if (item.hidden === hit) {
                item.hidden = !hit;
            }
            if (hit) {
                shown += 1;
                first = first || objectLinks[i];
            }
        }
        applied = find.value;
        findCount.textContent = words ? shown + " of " + objectLinks.length + " objects" : "";
        return first;
    }
    let pendingFind = 0;
    find.addEventListener("input", () => {
        cancelAnimationFrame(pendingFind);
        pendingFind = requestAnimationFrame(() => {
            if (applied !== find.value) {
                applyFind();
            }
        });
    });
    find.addEventListener("keydown", (event) => {
        if (event.key === "Enter") {
            const first = applyFind();
            if (first) {
                event.preventDefault();
                location.hash = first.hash;
                first.focus();
            }
        } else if (event.key === "Escape") {
            find.value = "";
            applyFind();
        }
    });
    document.addEventListener("keydown", (event) => {
        const inField = event.target instanceof HTMLInputElement ||
            event.target instanceof HTMLTextAreaElement || event.target.isContentEditable;
        if (event.key === "/" && !inField && !event.ctrlKey && !event.metaKey && !event.altKey) {
            event.preventDefault();
            find.focus();
            find.select();
        }
    });

    // --- The diagram's tables lead to the tables' descriptions.
    function encoded(text) {
        let out = "";
        for (const byte of new TextEncoder().encode(text)) {
            const c = String.fromCharCode(byte);
            out += /[A-Za-z0-9_-]/.test(c) ? c : "%" + byte.toString(16).toUpperCase().padStart(2, "0");
        }
        return out;
    }
    function linkDiagram(figure) {
        figure.querySelectorAll("g.table[data-name]").forEach((group) => {
            const id = "table-" + encoded(group.getAttribute("data-name"));
            if (document.getElementById(id)) {
                group.addEventListener("click", () => { location.hash = "#" + id; });
            }
        });
    }
    document.querySelectorAll(".diagram:not(.pending)").forEach(linkDiagram);

    showTarget();
})();
